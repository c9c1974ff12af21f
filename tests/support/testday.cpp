#include "support/testday.h"

#include "app/globals.h"
#include "app/jtime.h"
#include "tools/alert.h"

TestDay::TestDay(const QString& time)
    : clock(onTestDay(time))
{
    setTrayMessageSink([this](const TrayMessage& m) {
        const bool alert = m.icone == QSystemTrayIcon::Information && m.duree == 10000;
        balloons << m.titre + QStringLiteral(": ") + m.texte + (alert ? "" : " (another icon or length)");
        if (m.repeat)
            repeat = m.repeat;
    });
    creer_objets_globaux();
}

TestDay::~TestDay()
{
    liberer_objets_globaux();
    setTrayMessageSink({});
}

void TestDay::tick(const QString& time)
{
    clock.setCurrentDateTime(onTestDay(time));
    g_jtime->check();
}
