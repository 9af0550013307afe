// The menu widgets: buttons with highlight pictures, option rows, text captions and the text
// entry box. The seven instances are global, created once by LoadImages (every instance only
// if it does not exist yet, so a reload keeps selections and typed text) and freed at window
// destruction.
#pragma once

#include <memory>

#include "graphics/dd_btn_collection.h"
#include "graphics/dd_edit.h"
#include "graphics/dd_opt_btn_collection.h"
#include "graphics/dd_text_btn_collection.h"

// Intro and main menu: Play, Options, High scores, Help, More games, Exit.
extern std::unique_ptr<TDDBtnCollection> MainMenuButtons;
// High-score page: clear the table, world table, back.
extern std::unique_ptr<TDDBtnCollection> HighScoreButtons;
// The four help pages: previous page, next page, back.
extern std::unique_ptr<TDDBtnCollection> HelpButtons;
// Options page rows; owns the country box.
extern std::unique_ptr<TDDOptBtnCollection> OptionRows;
// "Yes"/"No": exit, quit game, send result, connection failed.
extern std::unique_ptr<TDDTextBtnCollection> YesNoButtons;
// "Ok"/"Cancel": clear the table, name entry.
extern std::unique_ptr<TDDTextBtnCollection> OkCancelButtons;
// The player's name after a high score; focused and editing for good, never cleared.
extern std::unique_ptr<TDDEdit> NameEdit;
// The options page's country box, owned by OptionRows; null while the widgets do not exist.
// The settings loader puts the stored country in with SetText; a save reads Text().
extern TDDEdit* CountryEdit;

namespace gfx {

// Creates each widget instance that does not exist yet. The three button columns select their
// first item, which plays the click once each.
void CreateWidgets();
// Frees every widget instance.
void FreeWidgets();

}  // namespace gfx
