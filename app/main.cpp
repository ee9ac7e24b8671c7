#include <cstdio>

int main() {
    std::puts("Quorvane: the main window is not built yet.");
    return 0;
}
