#pragma once
// Covers from the online services and the scanner: the dialogs open over the
// view without blocking it; what they bring goes into the slots as an opened
// or pasted picture would.
#include "base/CoverSlot.h"

#include <string>

class CKorvaneDoc;
class QWidget;

// The cover search, started from the front cover's file name `leftName`.
void OpenCoverSearch(CKorvaneDoc& doc, const std::string& leftName, QWidget* parent);
// The scan dialog, its picture into `slot`.
void OpenCoverScan(CKorvaneDoc& doc, Slot slot, QWidget* parent);
