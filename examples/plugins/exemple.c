/* The smallest plug-in: "plugin" alone. Its entry reads its file name less
 * the suffix, "exemple". */
#include "clepsa-plugin.h"
#include "reportcall.h"

void plugin(void)
{
    report_call("exemple");
}
