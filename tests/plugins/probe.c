/* A plug-in for the tests. "getName" gives a null name. "plugin" logs its
 * call as the examples do, and moves conf.ini (CLEPSA_PROBE_CONF) as it is
 * when the call comes to CLEPSA_PROBE_SNAPSHOT. */
#include "clepsa-plugin.h"
#include "reportcall.h"

#include <stdio.h>
#include <stdlib.h>

const char* getName(void)
{
    return NULL;
}

void plugin(void)
{
    const char* conf = getenv("CLEPSA_PROBE_CONF");
    const char* snapshot = getenv("CLEPSA_PROBE_SNAPSHOT");

    report_call("probe");
    if (conf && snapshot)
        rename(conf, snapshot);
}
