# Two modules: Upper links Lower, and Lower (wrongly) includes Upper's header.
set(fixture "${CMAKE_CURRENT_LIST_DIR}")
set(modules "Lower;Upper")
set(Lower_owned "${fixture}/Lower")
set(Lower_published "Lower=${fixture}/Lower")
set(Lower_linked "")
set(Upper_owned "${fixture}/Upper")
set(Upper_published "Upper=${fixture}/Upper")
set(Upper_linked "Lower")
