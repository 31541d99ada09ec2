#pragma once

#include <QString>

#include <array>
#include <optional>

// Release version numbers: dotted parts, each a whole number that fits in
// 64 bits ("2", "2.1", "202612091730"); missing parts are 0, so 1 equals
// 1.0.0.0, and parts beyond the fourth are not looked at. Blanks around the
// whole are ignored. Anything else among the first four parts — letters, a
// sign, an empty part, a number too large — does not read as a version.
// Shared by the program, its helper and the release tool.
using TsuVersion = std::array<quint64, 4>;

std::optional<TsuVersion> suParseVersion(const QString &text);

// Of two version texts, the one that reads as the higher version; a text
// that does not read loses to one that does; when neither reads, first.
QString suHigherVersion(const QString &first, const QString &second);
