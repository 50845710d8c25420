// std::terminate ends the program at once. The library's default handler would first print the
// type of the exception to stderr, which a windowed program doesn't have; without it, neither
// the demangler nor a printf implementation is linked into the executable.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
