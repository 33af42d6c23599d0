#pragma once

namespace ostrevan {

class Button;
class CheckBox;
class ComboBox;
class Label;
class ListView;
class PageControl;
class TextField;

// The controls of the main window that the logic writes, under their window's names.
// The window owns them; this only refers to them.
struct MainForm {
    Label& lbl_references;
    Label& lbl_CheckRef;
    TextField& txt_SEDokument;
    Button& btn_Weiter;
    Button& btn_zurueck;
    Button& btn_export;
    CheckBox& chk_FolderRekursiv;
    ComboBox& com_RefType;
    ListView& ListView1;
    PageControl& SSTab1;
};

} // namespace ostrevan
