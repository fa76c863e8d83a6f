#pragma once
// Factories of the windows that live outside src/app, kept here so the
// registry in Application.cpp needs no knowledge of their classes.
// Each returns a new top-level window without parent.

class QWidget;

namespace velmaro {

QWidget* createBitteWarten();  // the progress window (scan/BitteWarten.h)
QWidget* createFrmDelFile();   // the file view (fileview/FrmDelFile.h)

}  // namespace velmaro
