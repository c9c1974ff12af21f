#include "mainwindow/cachedglyphs.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyle>

#include <optional>

CachedGlyphs::CachedGlyphs(QLabel* label, const QString& characters)
    : QObject(label)
    , m_label(label)
    , m_characters(characters)
{
    label->installEventFilter(this);
}

bool CachedGlyphs::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_label)
        return false;
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::EnabledChange:
        m_painter = Painter::Unchecked;
        return false;
    case QEvent::Paint:
        break;
    default:
        return false;
    }
    // Moved to a screen of another pixel density, it is checked again.
    if (m_painter != Painter::Unchecked && m_label->devicePixelRatioF() != m_checkedRatio)
        m_painter = Painter::Unchecked;
    if (m_painter == Painter::Unchecked && !m_checkQueued) {
        // Not while the label is being painted, nor before it first shows.
        m_checkQueued = true;
        QMetaObject::invokeMethod(this, &CachedGlyphs::check, Qt::QueuedConnection);
    }
    if (m_painter != Painter::Glyphs)
        return false;
    QPainter painter(m_label);
    return paintGlyphs(painter);
}

void CachedGlyphs::check()
{
    m_checkQueued = false;
    // Checked on what the label shows: while that is something else, the
    // next paint asks again.
    if (!shows(m_label->text()))
        return;
    m_painter = Painter::Label;
    m_checkedRatio = m_label->devicePixelRatioF();
    if (!prepareGlyphs())
        return;
    const auto rendered = [this](Painter painter) {
        m_painter = painter;
        QImage image(m_label->size() * m_checkedRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(m_checkedRatio);
        image.fill(Qt::transparent);
        m_label->render(&image);
        return image;
    };
    const QImage byLabel = rendered(Painter::Label);
    const QImage byGlyphs = rendered(Painter::Glyphs);
    m_painter = byGlyphs == byLabel ? Painter::Glyphs : Painter::Label;
}

bool CachedGlyphs::shows(const QString& text) const
{
    if (text.isEmpty())
        return false;
    for (const QChar character : text) {
        if (!m_characters.contains(character))
            return false;
    }
    return true;
}

bool CachedGlyphs::prepareGlyphs()
{
    const QFont font = m_label->font();
    m_font = QRawFont::fromFont(font);
    if (!m_font.isValid())
        return false;
    m_glyphs = m_font.glyphIndexesForString(m_characters);
    if (m_glyphs.size() != m_characters.size() || m_glyphs.contains(0))
        return false;
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(m_glyphs);
    m_advances.clear();
    for (const QPointF& advance : advances)
        m_advances.append(advance.x());

    // Laid out one after the other, the glyphs must stand where the label's
    // own layout puts them, whatever the text.
    const QFontMetricsF metrics(font);
    std::optional<qreal> digitWidth;
    for (int first = 0; first < m_characters.size(); ++first) {
        if (m_characters.at(first).isDigit()) {
            if (digitWidth.value_or(m_advances.at(first)) != m_advances.at(first))
                return false;
            digitWidth = m_advances.at(first);
        }
        for (int second = 0; second < m_characters.size(); ++second) {
            const QString pair = QString(m_characters.at(first)) + m_characters.at(second);
            if (metrics.horizontalAdvance(pair) != m_advances.at(first) + m_advances.at(second))
                return false;
        }
    }
    return true;
}

bool CachedGlyphs::paintGlyphs(QPainter& painter) const
{
    const QString text = m_label->text();
    if (!shows(text))
        return false;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    qreal width = 0;
    for (const QChar character : text) {
        const qsizetype index = m_characters.indexOf(character);
        glyphs.append(m_glyphs.at(index));
        positions.append(QPointF(width, 0));
        width += m_advances.at(index);
    }

    // Where the label's alignment puts a line of text, as it lays it out.
    const int margin = m_label->margin();
    const QRect area = m_label->contentsRect().adjusted(margin, margin, -margin, -margin);
    const Qt::Alignment alignment = QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment());
    const qreal height = m_font.ascent() + m_font.descent();
    qreal x = area.x();
    if (alignment & Qt::AlignRight)
        x += area.width() - width;
    else if (alignment & Qt::AlignHCenter)
        x += (area.width() - width) / 2;
    qreal y = area.y();
    if (alignment & Qt::AlignBottom)
        y += area.height() - height;
    else if (alignment & Qt::AlignVCenter)
        y += (area.height() - height) / 2;

    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.setPen(m_label->palette().color(m_label->foregroundRole()));
    painter.drawGlyphRun(QPointF(x, y + m_font.ascent()), run);
    return true;
}
