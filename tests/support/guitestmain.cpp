#include "platform/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    nuvio::prepareWebEngineProcess();
    nuvio::NuvioApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
