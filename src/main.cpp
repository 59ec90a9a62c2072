// Program block: handles the options that need no window, then starts the GUI.
#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("Zumoria " ZUMORIA_VERSION_TEXT);
            return 0;
        }
    }
    QApplication app(argc, argv);
    return 0;
}
