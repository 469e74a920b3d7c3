-- The club's data, dumped from MySQL.

/*!40101 SET NAMES utf8 */;
/*!40014 SET @OLD_FOREIGN_KEY_CHECKS=@@FOREIGN_KEY_CHECKS, FOREIGN_KEY_CHECKS=0 */;

LOCK TABLES `boats` WRITE;
/*!40000 ALTER TABLE `boats` DISABLE KEYS */;
INSERT INTO `boats` VALUES (1,'Heron',1),(2,'Kingfisher',2),(3,'Swan\'s Wing',4);
/*!40000 ALTER TABLE `boats` ENABLE KEYS */;
UNLOCK TABLES;

LOCK TABLES `members` WRITE;
INSERT INTO `members` VALUES (1,'Ada Lovelace','ada@example.org',2,'2019-03-01',1),(2,'Brendan O\'Hara','brendan@example.org',3,'2020-05-17',1),(3,'Chloé Martin','chloe@example.org',NULL,'2021-09-30',1),(4,'Dmitri Volkov','dmitri@example.org',1,'2022-01-12',0);
UNLOCK TABLES;

LOCK TABLES `outings` WRITE;
INSERT INTO `outings` VALUES (1,1,'2023-04-02',12.5),(2,1,'2023-04-09',8.0),(3,2,'2023-04-09',15.5),(4,1,'2023-05-14',10.0);
UNLOCK TABLES;

/*!40014 SET FOREIGN_KEY_CHECKS=@OLD_FOREIGN_KEY_CHECKS */;
