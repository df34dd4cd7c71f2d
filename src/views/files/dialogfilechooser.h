// Qt's own file dialog, for desktops where no file chooser portal answers.
#pragma once

#include "filechooser.h"

class DialogFileChooser : public FileChooser
{
    Q_OBJECT
public:
    using FileChooser::FileChooser;
    void choose(const FileRequest &request, Done done) override;
};
