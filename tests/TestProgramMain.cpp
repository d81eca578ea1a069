// The main of every test program: it runs the test named on its command line.

#include "support/TestRegistry.h"

int main(int argc, char **argv)
{
    return TestSupport::TestRegistry::run(argc, argv);
}
