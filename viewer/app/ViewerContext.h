#pragma once
// What every viewer window reads from the start-up: the model code of the active product block
// and the loaded skin and language. Owned by the application object; windows borrow it.

class CExImageManager;
class CExWndPos;
class CExLangManager;

struct ViewerContext {
    int modelCode = 0;  // "Product ID" of the option file
    const CExImageManager* images = nullptr;
    const CExWndPos* positions = nullptr;
    const CExLangManager* language = nullptr;
};
