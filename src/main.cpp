// SPDX-License-Identifier: MIT
#include "gui/shell/startup.h"

int main(int argc, char** argv)
{
    return nuvio::runNuvio(argc, argv);
}
