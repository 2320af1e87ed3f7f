#include "Model.hpp"

#include "Services/PictureFile.hpp"
#include "Views/Window.hpp"

#include <QImage>
#include <QWidget>
#include <QtWidgets/QAbstractButton>
#include <string>

int model()
{
    return pictureFile() + window();
}
