-- A few items, warehouses and classes so that the guards of the demo have
-- data to protect: an item with an auxiliary unit, batch-managed and
-- consigned items, classified lists, and one department whose warehouses
-- use two valuation methods.

INSERT INTO InventoryClass (cInvCCode,cInvCName,iInvCGrade) VALUES ('01','原材料',1);
INSERT INTO InventoryClass (cInvCCode,cInvCName,iInvCGrade) VALUES ('02','库存商品',1);
INSERT INTO CustomerClass (cCCCode,cCCName,iCCGrade) VALUES ('01','批发客户',1);
INSERT INTO VendorClass (cVCCode,cVCName,iVCGrade) VALUES ('00','无级次',1);

INSERT INTO Inventory (cInvCode,cInvName,cInvCCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,bInvEntrust) VALUES ('1001','草鱼','01','条',0,0,0,0);
INSERT INTO Inventory (cInvCode,cInvName,cInvCCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,bInvEntrust) VALUES ('1002','红砖','01',NULL,0,1,1,0);
INSERT INTO Inventory (cInvCode,cInvName,cInvCCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,bInvEntrust) VALUES ('2001','办公软件套装','02','',1,0,0,0);
INSERT INTO Inventory (cInvCode,cInvName,cInvCCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,bInvEntrust) VALUES ('2002','代销显示器','02',NULL,0,0,0,1);

INSERT INTO Warehouse (cWhCode,cWhName,cDepCode,cWhValueStyle) VALUES ('01','原料库','D01','全月平均法');
INSERT INTO Warehouse (cWhCode,cWhName,cDepCode,cWhValueStyle) VALUES ('02','成品库','D01','先进先出法');
INSERT INTO Warehouse (cWhCode,cWhName,cDepCode,cWhValueStyle) VALUES ('03','门市库','D02','全月平均法');
