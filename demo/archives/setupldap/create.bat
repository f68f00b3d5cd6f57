@echo off
rem Creates the directory database of the LDAP service. Setup runs this
rem once, in this folder, after the first installation of the module.
if not exist data mkdir data
echo dn: dc=tolva,dc=test> data\base.ldif
echo objectClass: domain>> data\base.ldif
echo LDAP database created> created.txt
