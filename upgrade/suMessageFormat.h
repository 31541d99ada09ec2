#pragma once

#include <QString>
#include <QVariant>

#include <initializer_list>

// Fills the placeholders of an upgrade message, left to right: %s takes a
// text, %d (with flags, width and precision, "%.2d") a whole number, %f
// ("%.1f") a real number; "%%" is a percent sign. A placeholder without an
// argument is left out; an unknown one is kept as written. Unlike printf,
// a wrong or missing argument never reads past the list.
QString suFormatMessage(const QString &format, std::initializer_list<QVariant> arguments);
