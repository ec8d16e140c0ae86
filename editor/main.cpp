#include <cstdio>

int main()
{
    std::puts("Q9EE: the editor application is not built yet; its libraries and tests are.");
    return 0;
}
