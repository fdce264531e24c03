#include <cstdio>

int main() {
    std::puts("Tappora 4.1.7: the engine is built; the main window is not built yet.");
    return 1;
}
