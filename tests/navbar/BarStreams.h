#pragma once

#include "navbar/nbSideBar.h"
#include "platform/stream/FormReader.h"
#include "platform/stream/FormWriter.h"

#include <QBuffer>

// The bar's own save and load through memory.

inline QByteArray Saved(TnbSideBar &bar)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    bar.SaveToStream(buffer);
    return data;
}

inline void Load(TnbSideBar &bar, QByteArray data)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    bar.LoadFromStream(buffer);
}

// A component tree written as a form stream.
inline QByteArray Written(const platform::stream::FormComponent &root)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    platform::stream::WriteFormStream(buffer, root);
    return data;
}

// What the bar saves, read back as a component tree.
inline platform::stream::FormComponent Tree(TnbSideBar &bar)
{
    QByteArray data = Saved(bar);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return platform::stream::ReadFormStream(buffer);
}
