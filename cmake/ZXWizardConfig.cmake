# find_package(ZXWizard): the imported targets
#   ZXWizard::CApi       the C interface (zxwizard.h)
#   ZXWizard::Wizard     the C++ interfaces: class factory, _Wizard, IErrorText,
#                        IWizardAutomation, and the database kit (Qt 6)
#   ZXWizard::Platform, ZXWizard::DbKit   the libraries under ZXWizard::Wizard
#   ZXWizard::Component  the component module itself, for `zxwizard register`
include(CMakeFindDependencyMacro)
find_dependency(Qt6 6.4 COMPONENTS Core Gui)
include(${CMAKE_CURRENT_LIST_DIR}/ZXWizardTargets.cmake)
