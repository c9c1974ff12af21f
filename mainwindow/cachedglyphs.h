#pragma once

#include <QList>
#include <QObject>
#include <QRawFont>
#include <QString>

class QLabel;
class QPainter;

// Paints a label that shows a few characters in a fixed pattern, such as the
// time, from glyphs looked up once, instead of shaping its text again at
// every paint as the label would: the time changes every second. It takes
// over only once it has painted the label exactly as the label paints itself,
// with digits all of one width and no kerning between the characters; any
// other text, or a label whose font, palette or style has changed since, is
// painted by the label as usual.
class CachedGlyphs : public QObject
{
    Q_OBJECT

public:
    CachedGlyphs(QLabel* label, const QString& characters);

    bool paintsGlyphs() const { return m_painter == Painter::Glyphs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Painter { Unchecked, Label, Glyphs };

    void check();
    // Whether `text` is something to paint from the glyphs.
    bool shows(const QString& text) const;
    bool prepareGlyphs();
    bool paintGlyphs(QPainter& painter) const;

    QLabel* m_label;
    const QString m_characters;
    Painter m_painter = Painter::Unchecked;
    bool m_checkQueued = false;
    // The pixel density it was checked at.
    qreal m_checkedRatio = 0;
    QRawFont m_font;
    QList<quint32> m_glyphs;
    QList<qreal> m_advances;
};
