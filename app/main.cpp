// kadivo: the desktop program.

#include "KadivoApplication.h"
#include "WindowKinds.h"

int main(int argc, char** argv) {
    return kadivo::RunKadivo(argc, argv, [](kadivo::WindowKinds&) {});
}
