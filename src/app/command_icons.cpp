#include "app/command_icons.h"

#include "app/command_pictures.h"
#include "app/command_table.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>

#include <functional>

namespace {

// Draws a picture afresh at whatever size and pixel density is asked for.
class PictureEngine : public QIconEngine {
public:
    PictureEngine(std::function<void(QPainter&)> draw, QSizeF box) : m_draw(std::move(draw)), m_box(box) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal scale = std::min(rect.width() / m_box.width(), rect.height() / m_box.height());
        painter->save();
        painter->translate(rect.x() + (rect.width() - m_box.width() * scale) / 2,
                           rect.y() + (rect.height() - m_box.height() * scale) / 2);
        painter->scale(scale, scale);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        m_draw(*painter);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // size counts device pixels already.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            paint(&painter, image.rect(), mode, state);
        }
        image.setDevicePixelRatio(scale);
        return QPixmap::fromImage(image);
    }
    QIconEngine* clone() const override { return new PictureEngine(m_draw, m_box); }
    QString key() const override { return QStringLiteral("ZolvaPicture"); }

private:
    std::function<void(QPainter&)> m_draw;
    QSizeF m_box;
};

} // namespace

QIcon bundledCommandIcon(int id)
{
    // One trial drawing on a single pixel says whether there is a picture.
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&probe);
    if (!drawCommandPicture(id, painter))
        return QIcon();
    return QIcon(new PictureEngine([id](QPainter& p) { drawCommandPicture(id, p); }, QSizeF(16, 15)));
}

QIcon commandIcon(const CommandInfo& command)
{
    const QIcon own = bundledCommandIcon(command.id);
    if (!command.themeIcon)
        return own;
    return QIcon::fromTheme(QLatin1String(command.themeIcon), own);
}

QIcon programIcon()
{
    return QIcon(new PictureEngine(drawProgramPicture, QSizeF(64, 64)));
}
