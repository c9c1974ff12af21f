#pragma once

#include "tools/countdowns/comptearebours.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class WidgetCompteARebours;
}

// The page of one countdown: its title and the time still to run. It counts
// on the tick source's seconds, shows zero while in its target second, and
// rings once, at the first tick after it; then it stays at zero.
class WidgetCompteARebours : public QWidget
{
    Q_OBJECT

public:
    // Rings at once if the target has passed (or is no date at all).
    WidgetCompteARebours(int numero, const CompteARebours& c, const QString& format);
    ~WidgetCompteARebours() override;

    // The countdown, with its title and message cut as the page shows them.
    const CompteARebours& compteARebours() const { return m_car; }
    // It has a date and has not rung yet. One whose second has passed but
    // that no tick has rung yet (the run ends in between) is still pending,
    // so it is kept and rings at the next start instead of being lost.
    bool isPending() const;
    // Whole seconds still to run at `now` (seconds since 1970), zero in its
    // target second; none once it has rung, or with no date.
    std::optional<qint64> secondsLeft(qint64 now) const;

signals:
    void ring();

public slots:
    void refresh();
    void execute();
    void setFormat(const QString& format);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showRemaining();

    std::unique_ptr<Ui::WidgetCompteARebours> m_ui;
    int m_numero;
    QString m_format;
    CompteARebours m_car;
    // The target in whole seconds since 1970; none for no date.
    std::optional<qint64> m_target;
    qint64 m_remaining = 0;
    bool m_rung = false;
};
