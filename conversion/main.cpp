// The program's entry point: hand the command line to the platform and run the batch.
#include "conversion/batch_driver.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::setCommandLine(argc, argv);
  conversion::convert();
}
