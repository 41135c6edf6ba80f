#pragma once

#include "verz_test_seam.h"
#include "window/verz.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace verz::test {

// Every window test gets a settings store of its own and a service host that
// nobody answers on, so nothing reaches a network.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void store(const QString &key, const QString &value);
    QString stored(const QString &key) const;
    void forget(const QString &key);
    std::unique_ptr<Verz> open(Verz::StartupTrace trace = {});

    template <typename T = QWidget> static T *find(const Verz &window, const QString &objectName)
    {
        return window.findChild<T *>(objectName);
    }

    QTemporaryDir config_;
};

}  // namespace verz::test
