#pragma once

#include "tools/stopwatches/chronometre.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class QTimer;

namespace Ui {
class WidgetChronometre;
}

// Writes the laps to `path` in UTF-8, each line ending in a space; false when
// the file cannot be written.
bool writeLaps(const QString& path, const QStringList& laps);

// The page of one stopwatch: the time counted, start-pause and reset
// buttons, a title, and a list of laps that can be exported. The time comes
// from the monotonic clock, so a busy program or a sleeping machine costs it
// nothing; a timer only redraws it, while it runs and is shown.
class WidgetChronometre : public QWidget
{
    Q_OBJECT

public:
    // A blank stopwatch, stopped at zero, titled "Titre...".
    WidgetChronometre();
    // A stopwatch from a kept one; it runs at once if it was running.
    explicit WidgetChronometre(const Chronometre& c);
    ~WidgetChronometre() override;

    // The stopwatch as it stands, with the title its field shows.
    Chronometre getChronometre() const;

public slots:
    void refresh();
    void start();
    void raz();
    void save();
    void export_times();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    qint64 countedMsecs() const;
    void showRunning(bool running);

    std::unique_ptr<Ui::WidgetChronometre> m_ui;
    QTimer* m_display;
    // Counted before the last start, and the monotonic time of that start
    // while it runs.
    qint64 m_counted = 0;
    std::optional<qint64> m_runningSince;
};
