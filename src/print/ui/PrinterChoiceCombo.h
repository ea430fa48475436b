#pragma once
// The format editor's "Printer Media Type:" and "Printer Paper Source:" lists:
// the current printer's choices in its driver's order, each item carrying its
// number as item data, then "Use printer default" (-1), which is selected.
// Without a printer the lists stay empty.
#include "print/PrinterOptions.h"

class QComboBox;

// Fills from the program's printer (AppPrinterSettings), reading its driver.
void FillMediaTypeCombo(QComboBox* combo);
void FillPaperSourceCombo(QComboBox* combo);

// Fills from a printer's choices already read; `havePrinter` false leaves the
// combo empty.
void FillPrinterChoiceCombo(QComboBox* combo, const std::vector<PrinterChoice>& choices, bool havePrinter);

// Selects the item whose number is `number`; false (and nothing changed)
// when there is none.
bool SelectPrinterChoice(QComboBox* combo, int number);
