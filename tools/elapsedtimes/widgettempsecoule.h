#pragma once

#include "tools/elapsedtimes/tempsecoule.h"

#include <QWidget>

#include <memory>

namespace Ui {
class WidgetTempsEcoule;
}

// The page of one elapsed-time counter: its title, the time since its start,
// refreshed at every tick while it is shown, and the start written out in
// French.
class WidgetTempsEcoule : public QWidget
{
    Q_OBJECT

public:
    WidgetTempsEcoule(int numero, const TempsEcoule& t, const QString& format);
    ~WidgetTempsEcoule() override;

    // The counter, with its title cut as the page shows it.
    const TempsEcoule& tempsEcoule() const { return m_te; }

public slots:
    void refresh();
    void setFormat(const QString& format);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showElapsed();

    std::unique_ptr<Ui::WidgetTempsEcoule> m_ui;
    int m_numero;
    QString m_format;
    TempsEcoule m_te;
};
