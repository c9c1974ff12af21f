#pragma once

#include <QString>
#include <QSystemTrayIcon>

#include <functional>

class QWidget;

// Shows a balloon at the tray icon g_trayIcon; lost silently when there is no
// tray icon or the desktop shows no balloons.
void showTrayMessage(const QString& titre, const QString& texte, QSystemTrayIcon::MessageIcon icone,
                     int duree);
// Hands a local file to the desktop's default handler; failures are silent.
void ouvrirFichier(const QString& chemin);
// Lets the user choose an existing file, starting from `current` and showing
// the files `filter` admits (all when empty); a cancelled choice keeps
// `current`.
QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& current,
                         const QString& filter = QString());

// The alert of an item that falls due, in two independent steps: a balloon
// with the title and the message (none when the message is empty), then the
// file opened when `execute` asks for it and the file is still there.
void deliverAlert(const QString& title, const QString& message, bool execute, const QString& file);

// The alert of an item that rings (an alarm, a countdown), as
// deliverAlert() gives it, with more where the desktop allows: where its
// notification server shows buttons, a notification that stays until it is
// answered, with "Arrêter" and, when `repeat` is given, "Répéter dans N min"
// (alarmes/repetition), which calls `repeat` with N. With alarmes/son on,
// the alarm sound plays until then. An empty message stays silent.
void ringAlert(const QString& title, const QString& message, bool execute, const QString& file,
               std::function<void(int minutes)> repeat = {});

// Called after every alert delivered, while it is set: the clock saves then,
// so that a kill afterwards does not alert again at the next start. Empty by
// default.
void setAlertDeliveredHandler(std::function<void()> handler);

// Any record with the alert fields title, message, execute and file
// (alarms, countdowns).
template<typename Record>
void ringAlert(const Record& record, std::function<void(int minutes)> repeat = {})
{
    ringAlert(record.title, record.message, record.execute, record.file, std::move(repeat));
}
// Called after the state of an item changed outside its window (a repeat
// asked from a notification): the same save as after an alert.
void alertStateChanged();

struct TrayMessage
{
    QString titre;
    QString texte;
    QSystemTrayIcon::MessageIcon icone = QSystemTrayIcon::NoIcon;
    int duree = 0;
    // A ringing alert's repeat, when it offers one.
    std::function<void(int minutes)> repeat;
};
using TrayMessageSink = std::function<void(const TrayMessage&)>;

// Sends every balloon to `sink` instead of the tray icon, so that a test can
// see what was asked for without a desktop; an empty sink restores the tray.
void setTrayMessageSink(TrayMessageSink sink);
