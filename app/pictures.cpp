#include "app/pictures.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QLabel>

#include <optional>

namespace {

// Reads its file when first drawn, not when made: the windows that start
// hidden would otherwise decode their pictures, some of them 256 pixels
// wide, before the clock can show.
class PictureEngine : public QIconEngine
{
public:
    explicit PictureEngine(const QString& file)
        : m_file(file)
    {
    }

    // `rect` comes already fitted to actualSize().
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // `size` is in device pixels already.
        return loaded().pixmap(size / scale, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().availableSizes(mode, state);
    }
    // Asked before anything is drawn, to lay out buttons and menus: until
    // the file is read, a picture is there when its file is.
    bool isNull() override { return m_icon ? m_icon->isNull() : !QFile::exists(m_file); }
    QString key() const override { return QStringLiteral("ClepsaPicture"); }
    QIconEngine* clone() const override { return new PictureEngine(*this); }

private:
    const QIcon& loaded()
    {
        if (!m_icon)
            m_icon.emplace(m_file);
        return *m_icon;
    }

    QString m_file;
    std::optional<QIcon> m_icon;
};

QHash<QString, QIcon>& cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

// Pixmaps must go while the application object still exists.
void clearCache()
{
    cache().clear();
}

} // namespace

QIcon picture(const QString& resource)
{
    QHash<QString, QIcon>& icons = cache();
    auto found = icons.constFind(resource);
    if (found != icons.constEnd())
        return *found;
    if (icons.isEmpty())
        qAddPostRoutine(clearCache);
    return *icons.insert(resource, QIcon(new PictureEngine(resource)));
}

void showAtScreenDensity(QLabel* label, const QString& resource)
{
    const qreal ratio = label->devicePixelRatio();
    if (ratio > 1)
        label->setPixmap(picture(resource).pixmap(label->pixmap().deviceIndependentSize().toSize(), ratio));
}
