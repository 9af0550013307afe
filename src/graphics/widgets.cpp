#include "graphics/widgets.h"

#include "graphics/widget_layout.h"

std::unique_ptr<TDDBtnCollection> MainMenuButtons;
std::unique_ptr<TDDBtnCollection> HighScoreButtons;
std::unique_ptr<TDDBtnCollection> HelpButtons;
std::unique_ptr<TDDOptBtnCollection> OptionRows;
std::unique_ptr<TDDTextBtnCollection> YesNoButtons;
std::unique_ptr<TDDTextBtnCollection> OkCancelButtons;
std::unique_ptr<TDDEdit> NameEdit;
TDDEdit* CountryEdit = nullptr;

namespace gfx {

namespace {

void CreateColumn(std::unique_ptr<TDDBtnCollection>& column,
                  std::span<const layout::ButtonPlace> places) {
  if (column) return;
  column = std::make_unique<TDDBtnCollection>(places);
  column->SetItemIndex(0);
}

}  // namespace

void CreateWidgets() {
  CreateColumn(MainMenuButtons, layout::kMainMenu);
  CreateColumn(HighScoreButtons, layout::kHighScore);
  CreateColumn(HelpButtons, layout::kHelp);
  if (!OptionRows) {
    OptionRows = std::make_unique<TDDOptBtnCollection>();
    CountryEdit = &OptionRows->Edit;
  }
  if (!YesNoButtons) {
    YesNoButtons = std::make_unique<TDDTextBtnCollection>(layout::kYes, layout::kNo, "Yes", "No");
  }
  if (!OkCancelButtons) {
    OkCancelButtons =
        std::make_unique<TDDTextBtnCollection>(layout::kOk, layout::kCancel, "Ok", "Cancel");
  }
  if (!NameEdit) {
    NameEdit = std::make_unique<TDDEdit>();
    NameEdit->Rect = layout::kNameBox;
    NameEdit->Focused = true;
    NameEdit->Editing = true;
  }
}

void FreeWidgets() {
  CountryEdit = nullptr;
  MainMenuButtons.reset();
  HighScoreButtons.reset();
  HelpButtons.reset();
  OptionRows.reset();
  YesNoButtons.reset();
  OkCancelButtons.reset();
  NameEdit.reset();
}

}  // namespace gfx
