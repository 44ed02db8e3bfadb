#include "tools/adapterrestart/AdapterRestart.h"

int main(int argc, char** argv) {
    return adapterrestart::Main(argc, argv);
}
