#include "gui/app/GuiStartup.h"

int main(int argc, char** argv) {
    return GuiStartup::run(argc, argv);
}
