#pragma once

#include <QString>

#include <stdexcept>

namespace verz {

// A numbered failure that goes to the caller: 5 invalid argument, 6 overflow.
class VerzError : public std::runtime_error {
public:
    static constexpr int kInvalidArgument = 5;
    static constexpr int kOverflow = 6;

    VerzError(int number, const char *what) : std::runtime_error(what), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

// Replace-all on a copy of Source: occurrences of Find, searched left to right
// from the 1-based Start, never overlapping, at most Count of them (0 or less:
// no limit); Compare 0 exact, 1 ignoring letter case. When Start > 1 the result
// begins at Start. Throws VerzError(5) for an empty Find, VerzError(6) when a
// position would leave the 32-bit range. Cost is linear in the text.
QString Remplace(const QString &Source, const QString &Find, const QString &ReplaceStr,
                 qint32 Start = 1, qint32 Count = -1, qint32 Compare = 0);

namespace detail {
// Remplace with the largest allowed 1-based position as a parameter, so that
// the overflow error (6) can be reached without gigabyte texts.
QString RemplaceBounded(const QString &Source, const QString &Find, const QString &ReplaceStr,
                        qint32 Start, qint32 Count, qint32 Compare, qint64 positionLimit);
}  // namespace detail

}  // namespace verz
