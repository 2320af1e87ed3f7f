#pragma once

int model();
