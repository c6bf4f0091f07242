/* Every entry that source/host/ declares in the common-symbol table sits at
 * the byte where the host keeps it (tests/build/host-abi/common-symbols.txt),
 * and the table has the host's size. Prints each entry that differs. */
#include <cstdio>
#include <cstring>

#include "max_api.h"

namespace {

struct Entry {
    const char *text;
    size_t offset;
};

/* the host's table, made from the fact file at configure time */
const Entry host[] = {
#include "host_common_symbols.inc"
};

const Entry declared[] = {
#define DECLARED_ENTRY(text) {#text, offsetof(t_common_symbols_table, s_##text)},
    KORVEL_COMMON_SYMBOLS(DECLARED_ENTRY)
#undef DECLARED_ENTRY
};

const Entry *host_entry(const char *text)
{
    for (const Entry &e : host)
        if (std::strcmp(e.text, text) == 0)
            return &e;
    return nullptr;
}

} // namespace

int main()
{
    int wrong = 0;
    for (const Entry &d : declared) {
        const Entry *h = host_entry(d.text);
        if (!h) {
            std::printf("s_%s: the host's table has no such entry\n", d.text);
            wrong++;
        } else if (h->offset != d.offset) {
            std::printf("s_%s: declared at byte %zu, the host keeps it at byte %zu\n", d.text, d.offset, h->offset);
            wrong++;
        }
    }
    const size_t host_size = sizeof(void *) + sizeof(host) / sizeof(host[0]) * sizeof(t_symbol *);
    if (sizeof(t_common_symbols_table) != host_size) {
        std::printf("the table is %zu bytes, the host's %zu\n", sizeof(t_common_symbols_table), host_size);
        wrong++;
    }
    if (wrong)
        return 1;
    std::printf("%zu entries at the host's offsets, table of %zu bytes\n", sizeof(declared) / sizeof(declared[0]),
                host_size);
    return 0;
}
