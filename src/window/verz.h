#pragma once

#include <QWidget>

namespace verz {

// The program's one window.
class Verz : public QWidget {
    Q_OBJECT
public:
    explicit Verz(QWidget *parent = nullptr);
};

}  // namespace verz
