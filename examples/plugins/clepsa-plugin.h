/* What a Clepsa plug-in exports. A plug-in is a shared library in the folder
 * "plugins" beside the program. The program offers it in its "Plugins" menu
 * when it exports "plugin", and calls that function, on its GUI thread, when
 * the user chooses the entry: the clock stands still until it returns. The
 * entry reads what "getName" returns, taken as Latin-1, or else the file
 * name less its suffix (.so, .dll or .dylib). */
#ifndef CLEPSA_PLUGIN_H
#define CLEPSA_PLUGIN_H

#if defined(_WIN32)
#define CLEPSA_EXPORT __declspec(dllexport)
#else
#define CLEPSA_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

CLEPSA_EXPORT void plugin(void);
CLEPSA_EXPORT const char* getName(void);

#ifdef __cplusplus
}
#endif

#endif
