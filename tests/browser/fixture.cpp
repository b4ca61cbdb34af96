
// Browser fixture: one of every token kind, and text that must not become markup.
#include <map>
#include "local.h"
#define SQUARE(x) ((x) * (x))
#define TWICE(x) \
    ((x) + (x))

/* A block comment holding <script>alert(1)</script> and
   a second line with & and a tab:	here. */
template <typename T>
static bool check(T a, T b, T c, T d) {
	return a < b && c > d; // tab-indented line
}

int main() {
    const char *end = "</pre><b>not bold</b> & \"quoted\"";
    const char *tabbed = "col1	col2";
    char quote = '\'';
    char lt = '<';
    unsigned mask = 0xFF00u;
    double ratio = 1.5e-3 + .25;
    int	x	= 42;	// tabs between tokens
    x <<= 2; x >>= 1; x &= mask; x = -x;
    return check(x, 7, 3, 2) ? 0 : 1; // naïve café
}
