#include "tools/stopwatches/widgetchronometre.h"

#include "app/clock.h"
#include "app/labelsize.h"
#include "app/pictures.h"

#include "ui_widgetchronometre.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int kDisplayIntervalMs = 10;

} // namespace

bool writeLaps(const QString& path, const QStringList& laps)
{
    QFile file(path);
    // A cancelled choice gives no path; QFile would complain of it.
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    for (const QString& lap : laps)
        out << lap << " \n";
    out.flush();
    return file.error() == QFileDevice::NoError;
}

WidgetChronometre::WidgetChronometre()
    : WidgetChronometre(Chronometre{0, 0, false, QStringLiteral("Titre...")})
{
}

WidgetChronometre::WidgetChronometre(const Chronometre& c)
    : m_ui(std::make_unique<Ui::WidgetChronometre>())
    , m_display(new QTimer(this))
    , m_counted(qint64(c.s) * 1000 + qint64(c.ms) * 10)
{
    m_ui->setupUi(this);
    holdSize(m_ui->m_label_temps, QStringLiteral("00:00:00"));
    holdSize(m_ui->m_label_ms, QStringLiteral("00"));
    m_ui->m_titre->setText(c.title);
    m_ui->bouton_raz->setIcon(picture(QStringLiteral(":/ressources/stop.png")));
    m_ui->bouton_sauvegarde->setIcon(picture(QStringLiteral(":/ressources/Disk.png")));
    m_ui->bouton_exporter->setIcon(picture(QStringLiteral(":/ressources/export.png")));
    connect(m_ui->bouton_start, &QPushButton::clicked, this, &WidgetChronometre::start);
    connect(m_ui->bouton_raz, &QPushButton::clicked, this, &WidgetChronometre::raz);
    connect(m_ui->bouton_sauvegarde, &QPushButton::clicked, this, &WidgetChronometre::save);
    connect(m_ui->bouton_exporter, &QPushButton::clicked, this, &WidgetChronometre::export_times);
    m_display->setInterval(kDisplayIntervalMs);
    connect(m_display, &QTimer::timeout, this, &WidgetChronometre::refresh);
    showRunning(false);
    if (c.active)
        start();
    refresh();
}

WidgetChronometre::~WidgetChronometre() = default;

Chronometre WidgetChronometre::getChronometre() const
{
    return Chronometre::fromMsecs(countedMsecs(), m_runningSince.has_value(), m_ui->m_titre->text());
}

qint64 WidgetChronometre::countedMsecs() const
{
    return m_counted + (m_runningSince ? Clock::instance().monotonicMsecs() - *m_runningSince : 0);
}

void WidgetChronometre::refresh()
{
    const qint64 counted = countedMsecs();
    const qint64 seconds = counted / 1000;
    // The hours wrap after 99; the count goes on.
    m_ui->m_label_temps->setText(
        QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600 % 100, seconds % 3600 / 60, seconds % 60));
    m_ui->m_label_ms->setText(QString::asprintf("%02lld", counted % 1000 / 10));
}

void WidgetChronometre::start()
{
    // One button starts and pauses; a pause keeps the fraction of a second.
    if (m_runningSince) {
        m_counted = countedMsecs();
        m_runningSince.reset();
    } else {
        m_runningSince = Clock::instance().monotonicMsecs();
    }
    showRunning(m_runningSince.has_value());
    refresh();
}

void WidgetChronometre::raz()
{
    // The laps stay.
    m_counted = 0;
    m_runningSince.reset();
    showRunning(false);
    refresh();
}

void WidgetChronometre::save()
{
    m_ui->m_liste_temps->addItem(m_ui->m_label_temps->text() + QLatin1Char(',') + m_ui->m_label_ms->text());
}

void WidgetChronometre::export_times()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Enregistrer un fichier"), QString(),
                                                      tr("Fichiers texte(*.txt)"));
    QStringList laps;
    for (int i = 0; i < m_ui->m_liste_temps->count(); ++i)
        laps << m_ui->m_liste_temps->item(i)->text();
    // A cancelled choice or a file that cannot be written: nothing is done,
    // and nothing is said.
    writeLaps(path, laps);
}

void WidgetChronometre::showRunning(bool running)
{
    m_ui->bouton_start->setIcon(picture(running ? QStringLiteral(":/ressources/pause.png")
                                                : QStringLiteral(":/ressources/play.png")));
    // The picture alone says nothing to a screen reader.
    m_ui->bouton_start->setAccessibleName(running ? tr("Mettre en pause") : tr("Démarrer"));
    if (running && isVisible())
        m_display->start();
    else
        m_display->stop();
}

// Nobody sees a hidden stopwatch: it is not redrawn, and counts all the same.
void WidgetChronometre::showEvent(QShowEvent* event)
{
    showRunning(m_runningSince.has_value());
    refresh();
    QWidget::showEvent(event);
}

void WidgetChronometre::hideEvent(QHideEvent* event)
{
    m_display->stop();
    QWidget::hideEvent(event);
}
