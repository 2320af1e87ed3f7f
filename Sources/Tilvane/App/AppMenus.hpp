#pragma once

namespace tilvane {

class EditorWindow;


class TilvaneApp;

// The menus of one editor window: Arquivo, Editar, Exibir, Ajuda.
void installMenus(EditorWindow& window, TilvaneApp& app);

}  // namespace tilvane
