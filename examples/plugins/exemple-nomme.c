/* A plug-in that gives its entry a name of its own. */
#include "clepsa-plugin.h"
#include "reportcall.h"

const char* getName(void)
{
    /* Read as Latin-1: the "é" is the single byte E9. */
    return "Exemple nomm\xe9";
}

void plugin(void)
{
    report_call("exemple-nomme");
}
