#include "platform/ui/ImageList.h"

#include <QPainter>
#include <algorithm>

namespace platform {

ImageListChangeLink::~ImageListChangeLink()
{
    if (m_sender)
        m_sender->UnRegisterChanges(*this);
}

ImageList::ImageList(int width, int height, QObject *parent)
    : QObject(parent), m_width(width), m_height(height)
{
}

ImageList::~ImageList()
{
    // Links outlive the list only as detached links; they must not call back into it.
    for (ImageListChangeLink *link : m_links)
        link->m_sender = nullptr;
    m_links.clear();
}

void ImageList::SetSize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    m_images.clear();
    Change();
}

QImage ImageList::Fitted(const QImage &image) const
{
    QImage converted = image.convertToFormat(QImage::Format_ARGB32);
    if (converted.width() != m_width || converted.height() != m_height)
        converted = converted.scaled(m_width, m_height);
    return converted;
}

int ImageList::Add(const QImage &image)
{
    m_images.push_back(Fitted(image));
    Change();
    return Count() - 1;
}

int ImageList::AddMasked(const QImage &image, TColor maskColor)
{
    QImage masked = Fitted(image);
    const QRgb key = ToQColor(maskColor).rgb() & 0x00FFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == key)
                line[x] = 0;
    }
    m_images.push_back(masked);
    Change();
    return Count() - 1;
}

void ImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= Count())
        return;
    m_images[std::size_t(index)] = Fitted(image);
    Change();
}

void ImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_images.erase(m_images.begin() + index);
    Change();
}

void ImageList::Clear()
{
    if (m_images.empty())
        return;
    m_images.clear();
    Change();
}

QImage ImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_images[std::size_t(index)];
}

bool ImageList::Draw(QPainter &painter, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return false;
    const QImage &image = m_images[std::size_t(index)];
    if (enabled) {
        painter.drawImage(x, y, image);
        return true;
    }
    QImage grey = image;
    for (int row = 0; row < grey.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(row));
        for (int col = 0; col < grey.width(); ++col) {
            const int v = qGray(line[col]);
            line[col] = qRgba(v, v, v, qAlpha(line[col]));
        }
    }
    painter.drawImage(x, y, grey);
    return true;
}

void ImageList::RegisterChanges(ImageListChangeLink &link)
{
    if (link.m_sender == this)
        return;
    if (link.m_sender)
        link.m_sender->UnRegisterChanges(link);
    link.m_sender = this;
    m_links.push_back(&link);
}

void ImageList::UnRegisterChanges(ImageListChangeLink &link)
{
    auto it = std::find(m_links.begin(), m_links.end(), &link);
    if (it == m_links.end())
        return;
    m_links.erase(it);
    link.m_sender = nullptr;
}

void ImageList::Change()
{
    // A handler may unregister links while we notify; walk a copy.
    const std::vector<ImageListChangeLink *> links = m_links;
    for (ImageListChangeLink *link : links)
        if (std::find(m_links.begin(), m_links.end(), link) != m_links.end() && link->OnChange)
            link->OnChange();
}

} // namespace platform
