/* A plug-in that the plug-in tests steer through the environment:
 *   CLEPSA_PROBE_NAME      what "getName" returns; unset, a null pointer;
 *   CLEPSA_PLUGIN_LOG      a file where each call appends "called";
 *   CLEPSA_PROBE_SNAPSHOT  where each call copies, byte for byte, the file
 *   CLEPSA_PROBE_CONF      (conf.ini) as it is when the call comes. */
#include "clepsa-plugin.h"

#include <stdio.h>
#include <stdlib.h>

static void copy_file(const char* from, const char* to)
{
    FILE* in = fopen(from, "rb");
    FILE* out = in ? fopen(to, "wb") : NULL;
    int byte;

    while (out && (byte = fgetc(in)) != EOF)
        fputc(byte, out);
    if (out)
        fclose(out);
    if (in)
        fclose(in);
}

const char* getName(void)
{
    return getenv("CLEPSA_PROBE_NAME");
}

void plugin(void)
{
    const char* log = getenv("CLEPSA_PLUGIN_LOG");
    const char* snapshot = getenv("CLEPSA_PROBE_SNAPSHOT");
    const char* conf = getenv("CLEPSA_PROBE_CONF");
    FILE* file = log ? fopen(log, "a") : NULL;

    if (file) {
        fputs("called\n", file);
        fclose(file);
    }
    if (snapshot && conf)
        copy_file(conf, snapshot);
}
