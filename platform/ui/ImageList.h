#pragma once

#include "platform/ui/Colors.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <vector>

class QPainter;

namespace platform {

class ImageList;

// A subscription to the changes of an image list. The list calls OnChange after every
// change; a link unregisters itself when it is destroyed, and a list that goes away
// first detaches its links (Sender() becomes null).
class ImageListChangeLink
{
public:
    ImageListChangeLink() = default;
    ImageListChangeLink(const ImageListChangeLink &) = delete;
    ImageListChangeLink &operator=(const ImageListChangeLink &) = delete;
    ~ImageListChangeLink();

    // The list this link is registered with, or null.
    ImageList *Sender() const { return m_sender; }

    std::function<void()> OnChange;

private:
    friend class ImageList;
    ImageList *m_sender = nullptr;
};

// A list of equally sized images drawn with their transparency. Other objects only
// reference a list: they register change links to hear about its changes and watch
// QObject::destroyed to drop their references when it goes away.
class ImageList : public QObject
{
    Q_OBJECT
public:
    explicit ImageList(int width = 16, int height = 16, QObject *parent = nullptr);
    ~ImageList() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Changes the image size; the list is emptied.
    void SetSize(int width, int height);
    int Count() const { return int(m_images.size()); }

    // Adds an image (scaled to the list's size if it differs); returns its index.
    int Add(const QImage &image);
    // Adds an image whose pixels of colour `maskColor` become transparent.
    int AddMasked(const QImage &image, TColor maskColor);
    // Replaces or deletes image `index`; an index outside the list is ignored.
    void Replace(int index, const QImage &image);
    void Delete(int index);
    void Clear();
    // The image at `index` (a null image outside the list).
    QImage Image(int index) const;

    // Draws image `index` with its top-left corner at (x, y), transparent pixels leaving
    // the target unchanged. A disabled image is drawn greyed. Returns false when there is
    // no such image.
    bool Draw(QPainter &painter, int x, int y, int index, bool enabled = true) const;

    void RegisterChanges(ImageListChangeLink &link);
    void UnRegisterChanges(ImageListChangeLink &link);

private:
    QImage Fitted(const QImage &image) const;
    void Change();

    int m_width;
    int m_height;
    std::vector<QImage> m_images;
    std::vector<ImageListChangeLink *> m_links;
};

} // namespace platform
