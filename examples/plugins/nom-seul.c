/* Not a plug-in: a name, but no "plugin" to run. The program offers no
 * entry for it. */
#include "clepsa-plugin.h"

const char* getName(void)
{
    return "Nom seul";
}
