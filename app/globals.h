#pragma once

class JTime;
class QSystemTrayIcon;

// The two objects that every part of the program reaches directly. They live
// from creer_objets_globaux() to liberer_objets_globaux().
extern JTime* g_jtime;
extern QSystemTrayIcon* g_trayIcon;

void creer_objets_globaux();
void liberer_objets_globaux();
