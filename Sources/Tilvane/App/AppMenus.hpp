#pragma once

namespace tilvane {

class EditorWindow;


class TilvaneApp;

// The menus of one editor window: Arquivo, Editar, Exibir, Ajuda. Alt and the underlined letter of a title opens its
// menu (A, E, X, U: one letter each on the bar); when the bar lets go of the keyboard the focus goes back where it
// was (MenuBarKeyboard).
void installMenus(EditorWindow& window, TilvaneApp& app);

}  // namespace tilvane
