/* How the examples show that they ran: one line with their name appended to
 * the file that CLEPSA_PLUGIN_LOG names, when it is set (the tests read it),
 * or else one sentence on the standard output. */
#ifndef REPORTCALL_H
#define REPORTCALL_H

#include <stdio.h>
#include <stdlib.h>

static inline void report_call(const char* name)
{
    const char* log = getenv("CLEPSA_PLUGIN_LOG");
    FILE* file;

    if (!log || !*log) {
        printf("Le plug-in %s a été appelé.\n", name);
        fflush(stdout);
        return;
    }
    file = fopen(log, "a");
    if (file) {
        fprintf(file, "%s\n", name);
        fclose(file);
    }
}

#endif
