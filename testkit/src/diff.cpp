// A line diff for transcripts: the longest common subsequence, printed with a
// two-character margin.
#include "testkit.h"

#include <algorithm>

namespace testkit {

std::string diff(const std::vector<std::string> &expected, const std::vector<std::string> &actual)
{
    const size_t n = expected.size(), m = actual.size();
    // common[i][j]: length of the longest common subsequence of expected[i..]
    // and actual[j..].
    std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            common[i][j] = expected[i] == actual[j] ? common[i + 1][j + 1] + 1
                                                    : std::max(common[i + 1][j], common[i][j + 1]);
    std::string out;
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && expected[i] == actual[j]) {
            out += "  " + expected[i++] + "\n";
            ++j;
        } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
            out += "- " + expected[i++] + "\n";
        } else {
            out += "+ " + actual[j++] + "\n";
        }
    }
    return out;
}

} // namespace testkit
