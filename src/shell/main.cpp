// SPDX-License-Identifier: MIT
#include "shell/startup.h"

int main(int argc, char** argv)
{
    return nuvio::runNuvio(argc, argv);
}
