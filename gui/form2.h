#pragma once
// TForm2: the options window. It is created at start and destroyed at exit
// but never shown; it has no controls.
#include <QWidget>

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
};
