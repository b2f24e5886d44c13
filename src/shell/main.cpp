#include <QApplication>
int main(int c,char**v){QApplication a(c,v);return 0;}
