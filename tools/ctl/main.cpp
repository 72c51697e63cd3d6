#include "ctl/ctl_main.h"

int main(int argc, char** argv) {
    return zentrik::CtlMain(argc, argv);
}
