#pragma once
// The print dialog of the report engine: the platform's print dialog
// (QPrintDialog) with the settings the report's print setup fills in and
// reads back.

#include <QAbstractPrintDialog>

class QPrinter;

enum class TPrintRange { prAllPages, prSelection, prPageNums };

// Options (bits): print to file, page numbers, selection, warning, help,
// disable print to file.
enum TPrintDialogOption : int {
    poPrintToFile = 1, poPageNums = 2, poSelection = 4, poWarning = 8, poHelp = 16,
    poDisablePrintToFile = 32
};

class TRepPrintDialog
{
public:
    bool Collate = false;
    int Copies = 0;
    int FromPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    int Options = 0;
    bool PrintToFile = false;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    int ToPage = 0;

    // Shows the dialog for device (the printer chosen on it). On OK the
    // device holds the chosen printer and the fields hold what the user
    // chose (a copy count of 1 is taken from the device's own count).
    bool Execute(QPrinter &device);

    // The platform dialog's options for the Options bits.
    static QAbstractPrintDialog::PrintDialogOptions DialogOptions(int options);
};
