#pragma once

int pictureFile();
