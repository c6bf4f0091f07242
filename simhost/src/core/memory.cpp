/* Memory, and the host's string objects. */
#include "host.h"

#include <cstdlib>

namespace simhost {

namespace {

void string_free(t_string *x)
{
    delete x->text;
}

} // namespace

void string_class_setup()
{
    State &h = H();
    h.string_class = class_make("string", nullptr, as_method(string_free), (long)sizeof(t_string), {});
    class_registration(_sym_nobox, h.string_class);
}

} // namespace simhost

using namespace simhost;

t_string *string_new(const char *psz)
{
    count("string_new");
    t_string *x = (t_string *)obj_alloc(H().string_class);
    if (x)
        x->text = new std::string(psz ? psz : "");
    return x;
}

void string_append(t_string *x, const char *s)
{
    count("string_append");
    if (is_a(x, H().string_class) && s)
        x->text->append(s);
}

const char *string_getptr(t_string *x)
{
    count("string_getptr");
    return is_a(x, H().string_class) ? x->text->c_str() : nullptr;
}

t_ptr sysmem_newptr(t_ptr_size size)
{
    if (count_failing("sysmem_newptr"))
        return nullptr;
    return static_cast<t_ptr>(std::malloc(size > 0 ? size : 1));
}

void sysmem_freeptr(void *ptr)
{
    count("sysmem_freeptr");
    std::free(ptr);
}

/* Unified with the sysmem calls, as in the host; the names in parentheses
 * escape the header's macros, which send callers to sysmem directly. */
char *(getbytes)(t_getbytes_size size)
{
    if (count_failing("getbytes"))
        return nullptr;
    return (char *)std::malloc(size > 0 ? (size_t)size : 1);
}

void(freebytes)(void *b, t_getbytes_size size)
{
    count("freebytes");
    std::free(b);
}
